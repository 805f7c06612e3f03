#pragma once
#include <cstdint>

namespace core {

// Transfer records of the dialogs: packed, one slot per data control in the order the dialog
// creates its controls. An edit's slot holds a NUL-terminated text of at most its size - 1.
#pragma pack(push, 1)

struct TInfoRecord {  // INFODIALOG
  char firstName[21];
  char lastName[21];
  char course[21];
  char period[6];
  char instructor[26];
};

struct TDriveRecord {  // DRIVEDLG: C:, A:, B:
  int32_t driveC;
  int32_t driveA;
  int32_t driveB;
};

struct TPrintOptionsRecord {  // PRINTDLG
  int32_t course;
  int32_t period;
  int32_t instructor;
  int32_t questionAndAnswer;
  int32_t answerOnly;
};

struct TSearchRecord {  // SDIALOG
  char text[51];
  int32_t notCaseSensitive;
  int32_t caseSensitive;
};

struct TNumberRecord {  // DINTRO, CINTRO, INSERTDIALOG
  char number[11];
};

struct TAnswerRecord {  // ABOX
  char answer[51];
};

#pragma pack(pop)

static_assert(sizeof(TInfoRecord) == 95);
static_assert(sizeof(TDriveRecord) == 12);
static_assert(sizeof(TPrintOptionsRecord) == 20);
static_assert(sizeof(TSearchRecord) == 59);
static_assert(sizeof(TNumberRecord) == 11);
static_assert(sizeof(TAnswerRecord) == 51);

}  // namespace core
