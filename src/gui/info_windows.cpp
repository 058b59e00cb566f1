#include "gui/info_windows.h"

#include <string>

#include "gui/fonts.h"
#include "view/manual.h"

void showAboutBox(FXWindow *owner, FXIcon *icon) {
  FXDialogBox box(owner, "About Velk", DECOR_TITLE | DECOR_BORDER, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  new FXLabel(&box, FXString::null, icon, LAYOUT_SIDE_LEFT | LAYOUT_CENTER_Y, 0, 0, 0, 0, 10, 10,
              10, 10);
  FXVerticalFrame *side = new FXVerticalFrame(
      &box, LAYOUT_SIDE_RIGHT | LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 10, 10, 10, 10);
  new FXLabel(side, "Velk: aligning long colinear sequences", nullptr,
              JUSTIFY_LEFT | LAYOUT_FILL_X);
  new FXHorizontalSeparator(side, SEPARATOR_LINE | LAYOUT_FILL_X);
  std::string about(aboutText());
  new FXLabel(side, about.c_str(), nullptr, JUSTIFY_LEFT | LAYOUT_FILL_X);
  FXButton *ok =
      new FXButton(side, "&OK", nullptr, &box, FXDialogBox::ID_ACCEPT,
                   BUTTON_INITIAL | BUTTON_DEFAULT | FRAME_RAISED | FRAME_THICK | LAYOUT_RIGHT, 0,
                   0, 0, 0, 32, 32, 2, 2);
  ok->setFocus();
  box.execute(PLACEMENT_OWNER);
}

void showHelpWindow(FXWindow *owner) {
  FXDialogBox box(owner, "Help on Velk", DECOR_ALL, 0, 0, 0, 0, 6, 6, 6, 6, 4, 4);
  FXHorizontalFrame *bottom =
      new FXHorizontalFrame(&box, LAYOUT_SIDE_BOTTOM | LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
  FXButton *close =
      new FXButton(bottom, "&Close", nullptr, &box, FXDialogBox::ID_ACCEPT,
                   BUTTON_INITIAL | BUTTON_DEFAULT | FRAME_RAISED | FRAME_THICK | LAYOUT_RIGHT, 0,
                   0, 0, 0, 20, 20, 5, 5);
  FXHorizontalFrame *frame = new FXHorizontalFrame(
      &box, FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 0, 0);
  FXText *text =
      new FXText(frame, nullptr, 0, TEXT_READONLY | TEXT_WORDWRAP | LAYOUT_FILL_X | LAYOUT_FILL_Y);
  // The manual's tables are laid out in columns: a fixed pitch keeps them.
  text->setFont(gFonts[2]);
  text->setVisibleRows(50);
  text->setVisibleColumns(90);
  text->setTabColumns(35);
  std::string_view manual = userManual();
  text->setText(manual.data(), FXint(manual.size()));
  close->setFocus();
  box.execute(PLACEMENT_CURSOR);
}
