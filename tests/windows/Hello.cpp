// The smallest program: the wine checks run it first to learn whether this machine runs
// programs of the build's architecture at all (32-bit ones need kernel support and wine32).
int main() { return 0; }
