// The demo: prints a placeholder until the run drivers are in.
#include <cstdio>
int main() { std::puts("ostrel_backtest demo"); return 0; }
