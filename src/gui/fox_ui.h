// The user-interface port on the toolkit: message boxes, the information
// line text, the progress pump and repaint requests.
#pragma once
#include <fx.h>

#include "core/ui_port.h"

class FoxUi : public UiPort {
public:
  explicit FoxUi(FXApp *app) : app(app) {}
  Answer messageBox(const char *title, const char *text, Buttons buttons, Answer dflt) override;
  void setInfoLine(const char *text) override;
  void progress(int percent) override;
  void requestRepaint() override;
  void flushDisplay() override;
  void openActionSurface() override;
  void closeActionSurface() override;
  bool canDraw() const override;
  void drawSequenceLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool erase) override;
  void hideWindow(VelkWindow *w) override;
  void sendToRootWindow(int commandId) override;

  const char *infoLine() const { return info; }
  int lastPercent() const { return percent; }
  // A dialog that shows progress (the input dialog) owns the message boxes
  // while it is up; null gives them back to the current window.
  void setMessageOwner(FXWindow *w) { owner = w; }

private:
  FXWindow *messageOwner() const;
  FXApp *app;
  FXWindow *owner = nullptr;
  char info[2048] = {};
  int percent = -1;
};
