// Main frame: menu, accelerators, toolbar, strings, commands.
#pragma once

#define IDR_MAINFRAME 127
