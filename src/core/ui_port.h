// The narrow interface through which the core reaches the user. The FOX
// front end implements it with the toolkit; the headless port answers every
// question with its default and prints messages on stderr.
#pragma once
#include <cstdint>

class VelkWindow;

enum class Buttons { Ok, YesNo, YesNoCancel };
enum Answer { kAnswerOk = 1, kAnswerYes = 2, kAnswerNo = 3, kAnswerCancel = 4 };

class UiPort {
public:
  virtual ~UiPort() = default;
  // Modal message box; `dflt` is what a headless run answers.
  virtual Answer messageBox(const char *title, const char *text, Buttons buttons,
                            Answer dflt) = 0;
  // Text of the current window's information line.
  virtual void setInfoLine(const char *text) = 0;
  // Lets pending user events run (Esc, paint, the stop question) and shows
  // the percentage done of the running action; -1 when none applies.
  virtual void progress(int percent) = 0;
  // Ask every open window to repaint.
  virtual void requestRepaint() = 0;
  // Lets pending repaints happen and flushes the display, so the windows
  // are up to date before a long action starts.
  virtual void flushDisplay() {}
  // Drawing of intermediate products in sequence coordinates of the current
  // window (x along sequence 1, y along sequence 2, 0-based). Only valid
  // between openActionSurface and closeActionSurface; canDraw() is false
  // when nothing is shown (headless).
  virtual void openActionSurface() {}
  virtual void closeActionSurface() {}
  virtual bool canDraw() const { return false; }
  virtual void drawSequenceLine(int32_t, int32_t, int32_t, int32_t, bool /*erase*/) {}
  // Hides a window whose slot is being freed (no-op headless).
  virtual void hideWindow(VelkWindow *) {}
  // Sends a menu command (e.g. Save, 68) to the root window, as the exit
  // question's Yes does (no-op headless).
  virtual void sendToRootWindow(int /*commandId*/) {}
};

UiPort *ui();
void setUi(UiPort *port); // nullptr restores the headless port

class HeadlessUi : public UiPort {
public:
  Answer messageBox(const char *title, const char *text, Buttons buttons, Answer dflt) override;
  void setInfoLine(const char *text) override;
  void progress(int) override {}
  void requestRepaint() override {}
  int errors() const { return errorCount; } // message boxes titled "Error"
  const char *infoLine() const { return info; }
  bool quiet = false; // tests silence stderr

private:
  int errorCount = 0;
  char info[1024] = {};
};

HeadlessUi &headlessUi();
