#include <cstdio>

int main(int argc, char **argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: velk [--batch] [COMMAND_FILE | ALIGNMENT_FILE]\n");
    return 2;
  }
  (void)argv;
  return 0;
}
