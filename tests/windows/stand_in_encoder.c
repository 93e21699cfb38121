/* Stands in for ffmpeg in the encoder checks, on Linux and (cross-built) on
   Windows: writes the bytes of each input it is given (-i FILE, or -i - for
   its standard input), one after the other, into the file named by its last
   argument, so that two programs' captures can be compared byte for byte. */
#include <stdio.h>
#include <string.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

static int copy(FILE* from, FILE* to) {
  char buffer[1 << 16];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, from)) > 0) {
    if (fwrite(buffer, 1, n, to) != n) return 0;
  }
  return !ferror(from);
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  FILE* out = fopen(argv[argc - 1], "wb");
  if (!out) return 1;
  int ok = 1;
  for (int i = 1; i + 1 < argc - 1 && ok; ++i) {
    if (strcmp(argv[i], "-i") != 0) continue;
    const char* name = argv[++i];
    if (strcmp(name, "-") == 0) {
      ok = copy(stdin, out);
      continue;
    }
    FILE* in = fopen(name, "rb");
    ok = in && copy(in, out);
    if (in) fclose(in);
  }
  return fclose(out) == 0 && ok ? 0 : 1;
}
