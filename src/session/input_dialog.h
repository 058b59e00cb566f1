// The input dialog's work on the two sequences, without the toolkit: the
// texts it opens with, what a chosen file resets, and reading the pair when
// the user accepts. The dialog widgets live in the front end.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "core/records.h"

// Progress bars of the dialog, one per sequence, 0 .. 100.
class InputProgressView {
public:
  virtual ~InputProgressView() = default;
  virtual void showProgress(int which, int value) = 0;
};

struct InputFields {
  std::string name; // whole as typed: a name too long for the system is refused, not cut
  char interval[64];
  bool invert;
  char record[256] = ""; // the first record, else as on an input line after "record="
  bool softmask = false;
};

// What the record list of a many-record file offers: a label per record
// ("2: chr2") and the choice it stands for ("" for the first, so that
// choosing it changes nothing in saved files).
struct RecordChoices {
  std::vector<std::string> labels, choices;
  size_t total = 0; // records in the file; only the first kListedRecords are offered
  int current = 0;  // the entry of the choice asked about, or 0
};
constexpr size_t kListedRecords = 2000;
// The records of the file, with `current` set to the entry `choice` names.
void inputRecordChoices(const char *fileName, const char *choice, RecordChoices &out);

// On opening: the view receives the readers' progress and the working bits
// of both sequences are taken from their requests.
void inputDialogBegin(InputProgressView *view);
// On closing, whatever the ending.
void inputDialogEnd();

void inputDialogFields(int which, InputFields &fields);
// 100 when the sequence needs no reading, else 0.
int inputProgressValue(int which);
// Both bars back to their resting values.
void resetInputProgress();

// A file chosen with "Directory": the sequence must be read again and its
// choices start afresh ("0 - 0", no invert-complement, the first record,
// not soft-masked).
void inputFileChosen(int which, InputFields &fields);

// "&Ok": stores the fields and reads what needs reading. Returns the
// number of failures; 0 means the pair is loaded and the dialog may close.
int inputDialogAccept(const InputFields fields[2]);
// Whether the last accepted dialog set up a new session (new files,
// intervals or orientation); an "&Ok" that changed nothing did not.
bool inputDialogReplacedSession();
// First line of the reader's last message, for the dialog's label.
const char *inputFailureText();
// "&Cancel".
void inputDialogCancel();
