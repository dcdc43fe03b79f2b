#pragma once
#include <windows.h>
#include <cstdio>
struct ProfAcc { const char* name; double ms = 0; long n = 0; double max = 0; };
inline double ProfNow() { LARGE_INTEGER f, c; QueryPerformanceFrequency(&f); QueryPerformanceCounter(&c); return c.QuadPart * 1000.0 / f.QuadPart; }
struct ProfScope { ProfAcc& a; double t; ProfScope(ProfAcc& acc) : a(acc), t(ProfNow()) {} ~ProfScope() { double d = ProfNow() - t; a.ms += d; a.n++; if (d > a.max) a.max = d; } };
inline void ProfPrint(ProfAcc& a) { fprintf(stderr, "PROF %s: %.1f ms total, %ld calls, max %.1f\n", a.name, a.ms, a.n, a.max); a = ProfAcc{a.name}; }
