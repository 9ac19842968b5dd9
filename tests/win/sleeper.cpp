// A program that waits: the test stand-in for a running malicious program.
#include <windows.h>

int main() {
  Sleep(120000);
  return 0;
}
