#include "gui/coordinates_dialog.h"

#include <cstdio>

#include "core/session.h"
#include "session/dialog_model.h"

static FXTextField *numberField(FXComposite *parent, const char *text) {
  FXTextField *field =
      new FXTextField(parent, 8, nullptr, 0, FRAME_SUNKEN | FRAME_THICK | LAYOUT_CENTER_Y);
  field->setText(text);
  return field;
}

bool askWindowCoordinates(FXWindow *owner) {
  DialogValues v;
  loadDialogValues(DIALOG_WINDOW_COORDINATES, *gCurrent, v);
  FXDialogBox box(owner, dialogTitle(DIALOG_WINDOW_COORDINATES), DECOR_TITLE | DECOR_BORDER,
                  owner->getX() + 20, owner->getY() + 20, 0, 0, 6, 6, 6, 6, 4, 4);
  FXVerticalFrame *buttons = new FXVerticalFrame(&box, LAYOUT_SIDE_RIGHT | PACK_UNIFORM_WIDTH);
  new FXButton(buttons, "&Ok", nullptr, &box, FXDialogBox::ID_ACCEPT,
               BUTTON_INITIAL | BUTTON_DEFAULT | FRAME_RAISED | FRAME_THICK | LAYOUT_FIX_WIDTH, 0,
               0, 75, 0, 20, 20);
  new FXButton(buttons, "&Cancel", nullptr, &box, FXDialogBox::ID_CANCEL,
               FRAME_RAISED | FRAME_THICK | LAYOUT_FIX_WIDTH, 0, 0, 75, 0, 20, 20);
  FXVerticalFrame *fields = new FXVerticalFrame(&box, LAYOUT_SIDE_LEFT);
  FXHorizontalFrame *row1 = new FXHorizontalFrame(fields, LAYOUT_FILL_X);
  FXTextField *from1 = numberField(row1, v.text[0]);
  new FXFrame(row1, LAYOUT_FILL_X);
  FXTextField *to1 = numberField(row1, v.text[1]);
  FXHorizontalFrame *row2 = new FXHorizontalFrame(fields);
  FXVerticalFrame *column = new FXVerticalFrame(row2, LAYOUT_FILL_Y);
  FXTextField *to2 = numberField(column, v.text[3]);
  new FXFrame(column, LAYOUT_FILL_Y);
  FXTextField *from2 = numberField(column, v.text[2]);
  new FXFrame(row2, FRAME_RIDGE | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 132, 132);
  from1->setFocus();
  if (!box.execute(PLACEMENT_DEFAULT))
    return false;
  FXTextField *order[4] = {from1, to1, from2, to2};
  for (int i = 0; i < 4; ++i)
    snprintf(v.text[i], DialogValues::kTextSize, "%s", order[i]->getText().text());
  storeDialogValues(DIALOG_WINDOW_COORDINATES, v, *gCurrent);
  return true;
}
