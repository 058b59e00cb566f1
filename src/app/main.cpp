// Layer 8 of 8, app: main. Uses every layer below, and gui when built with it.
//
// Entry point. With a display the program is the windowed tool; without one
// (or with --batch) it runs a command file headless with the same actions,
// messages going to stderr.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/replace_file.h"
#include "core/ui_port.h"
#include "io/command_file.h"
#include "session/exit_question.h"
#include "session/startup.h"
#include "view/manual.h"
#include "view/picture_file.h"
#ifdef VELK_WITH_GUI
#include "gui/startup_gui.h"
#endif

static const char kUsage[] = "usage: velk [--batch] FILE|- [--picture OUT.ps|OUT.svg]\n"
                             "Try 'velk --help' for more information.\n";

static const char kHelp[] =
    "Usage: velk [OPTION]... [FILE]\n"
    "Pairwise alignment of two long DNA sequences: finds local alignments on the\n"
    "dot matrix, resolves their conflicts and saves the collinear chain.\n"
    "\n"
    "FILE is a command file (its first line is \"start\") or a saved local or\n"
    "global alignment; \"-\" reads a command file from the standard input. With a\n"
    "display the window opens; without one, or with --batch, the command file\n"
    "runs headless.\n"
    "\n"
    "  -b, --batch          run FILE without a window; messages go to stderr and\n"
    "                       the exit status is 1 after an error\n"
    "  -p, --picture OUT    after the batch run, draw the window (900 x 700) into\n"
    "                       OUT: PostScript for *.ps, SVG for *.svg (implies\n"
    "                       --batch)\n"
    "  -h, --help           show this help and exit\n"
    "  -V, --version        show the version and exit\n"
    "\n"
    "Sequence files may be gzip-compressed and hold many records. In a command\n"
    "file, for example:\n"
    "  start\n"
    "  input1 genome.fa.gz record=chr2 softmask   the record named chr2, its\n"
    "                                             lower case as repeats\n"
    "  input2 contigs.fa record=#3                the third record\n"
    "  align maskknown\n"
    "  save pair.paf as PAF                       also: as MAF, Local, Global,\n"
    "  exit                                       summary\n"
    "and run it with: velk --batch FILE, or: cat FILE | velk --batch -\n"
    "\n"
    "\"align both\" also searches the other strand of sequence 2 (inversions;\n"
    "shown in blue, saved after \"Reverse strand:\") and \"reverse\" turns the\n"
    "session to that strand and back.\n"
    "\n"
    "The user manual is under Help in the window and installed as manual.txt.\n";

static int runHeadless(const char *file, const char *picture) {
  if (!file || !*file) {
    fputs(kUsage, stderr);
    return 2;
  }
  HeadlessUi &port = headlessUi();
  const char *quiet = getenv("VELK_QUIET");
  port.quiet = quiet && *quiet && strcmp(quiet, "0") != 0;
  setUi(nullptr);
  bool failed = true;
  if (startSessionCore()) {
    // No save of the run may take the picture's place, nor the picture the
    // command file's.
    if (picture)
      protectFile(picture, "the picture file of this run");
    CommandLineResult r = runCommandLine(file, nullptr);
    failed = (r.status & kRunError) || r.openFailures > 0;
    std::string error;
    if (picture) {
      unprotectFile(picture);
      if (r.status != 2 && !isStandardInputName(file))
        protectFile(file, "the running command file");
    }
    if (picture && !writePictureFile(picture, &error)) {
      fprintf(stderr, "velk: cannot write the picture %s: %s\n", picture, error.c_str());
      failed = true;
    }
    // The windowed program would stay open unless asked to exit; headless
    // there is nobody to hand over to, so the session ends either way.
    exitQuestion();
  }
  shutDownSessionCore();
  return failed || port.errors() > 0 ? 1 : 0;
}

static bool is(const char *arg, const char *shortName, const char *longName) {
  return strcmp(arg, shortName) == 0 || strcmp(arg, longName) == 0;
}

int main(int argc, char **argv) {
  // Past a file-size limit a write then fails and is reported, instead of
  // the signal ending the program in the middle of a save.
  signal(SIGXFSZ, SIG_IGN);
  bool batch = false;
  const char *picture = nullptr;
  int n = 1;
  for (int i = 1; i < argc; ++i) {
    const char *a = argv[i];
    if (is(a, "-h", "--help")) {
      fputs(kHelp, stdout);
      return 0;
    } else if (is(a, "-V", "--version")) {
      printf("velk %s\n", kVelkVersion);
      return 0;
    } else if (is(a, "-b", "--batch")) {
      batch = true;
    } else if (is(a, "-p", "--picture") || strncmp(a, "--picture=", 10) == 0) {
      picture = a[1] == '-' && a[9] == '=' ? a + 10 : i + 1 < argc ? argv[++i] : nullptr;
      if (!picture || pictureFormatOf(picture) == PictureFormat::Unknown) {
        fprintf(stderr, "velk: --picture needs a file name ending in .ps or .svg\n%s", kUsage);
        return 2;
      }
      batch = true;
    } else if (a[0] == '-' && a[1] != '\0') {
      fprintf(stderr, "velk: unknown option %s\n%s", a, kUsage);
      return 2;
    } else {
      argv[n++] = argv[i];
    }
  }
  argc = n;
  argv[argc] = nullptr;
#ifdef VELK_WITH_GUI
  const char *display = getenv("DISPLAY");
  if (!batch && display && *display) {
    int status = runWindowed(argc, argv);
    if (status >= 0)
      return status;
    fputs("velk: cannot open the display; running headless\n", stderr);
  }
#endif
  (void)batch;
  if (argc > 2) {
    fputs(kUsage, stderr);
    return 2;
  }
  return runHeadless(argc == 2 ? argv[1] : nullptr, picture);
}
