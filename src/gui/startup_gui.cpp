#include "gui/startup_gui.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

#include "core/session.h"
#include "gui/fonts.h"
#include "gui/fox_ui.h"
#include "gui/settings_registry.h"
#include "gui/velk_window.h"
#include "io/command_actions.h"
#include "io/command_file.h"
#include "session/exit_question.h"
#include "session/startup.h"

// Window k sits 20k pixels right of and below the first, all with the size of
// window 0 as the toolkit placed it on the screen.
static void cascadeWindows() {
  VelkWindow *root = gWindows[0];
  root->place(PLACEMENT_SCREEN);
  FXint x = std::max<FXint>(root->getX(), 110), y = std::max<FXint>(root->getY(), 110);
  FXint w = root->getWidth(), h = root->getHeight();
  for (int k = kSlotCount - 1; k >= 0; --k)
    gWindows[k]->position(x - 100 + 20 * k, y - 100 + 20 * k, w, h);
}

// The command-file lines that act on windows.
static void installWindowCommands() {
  gCommandActions.bindWindow0 = [] { gCurrent->window = gWindows[0]; };
  gCommandActions.showWindow = [] {
    if (gCurrent->window)
      gCurrent->window->show(PLACEMENT_DEFAULT);
  };
  gCommandActions.hideWindow = [] {
    if (gCurrent->window)
      gCurrent->window->hide();
  };
}

int runWindowed(int argc, char **argv) {
  FXApp app("Velk", "");
  app.init(argc, argv, false);
  // A busy X server may drop a new connection now and then (seen with Xvfb
  // under load); only a display that stays unreachable means running headless.
  bool open = false;
  for (int attempt = 0; attempt < 5 && !open; ++attempt) {
    if (attempt > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    open = app.openDisplay();
  }
  if (!open)
    return -1;
  readSettings(&app);
  for (VelkWindow *&w : gWindows)
    w = new VelkWindow(&app);
  app.addSignal(SIGINT, gWindows[0], FXSEL(SEL_SIGNAL, VelkWindow::ID_CLOSE));
  app.create();
  createFonts(&app);
  cascadeWindows();

  FoxUi port(&app);
  setUi(&port);
  installWindowCommands();
  int code = 0;
  bool failed = false;
  if (startSessionCore()) {
    CommandLineResult r = runCommandLine(argc == 2 ? argv[1] : nullptr, gWindows[0]);
    failed = (r.status & kRunError) != 0;
    if (!(r.status & kRunExitRequested)) {
      gWindows[0]->show(PLACEMENT_DEFAULT);
      code = app.run();
    } else {
      exitQuestion(); // the program ends whatever the answer
    }
  } else {
    failed = true;
  }

  shutDownSessionCore();
  setUi(nullptr);
  for (VelkWindow *&w : gWindows) {
    delete w;
    w = nullptr;
  }
  destroyFonts();
  // A command file that failed ends the program with a failure status.
  return failed && code == 0 ? 1 : code;
}
