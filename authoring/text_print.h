#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/list.h"
#include "core/records.h"
#include "platform/printout.h"

namespace platform {
class TPrinter;
}

namespace quizloom {

// The printed question sheet: every question numbered, with its raised and lowered
// characters and its picture, pages formed by the budget of the pagination; the answers are
// left out. The answer key is the same sheet with each expected answer on the line under its
// question. One object per print, preview or key.
class TTextPrint : public platform::TPrintout {
 public:
  TTextPrint(std::string title, const core::TList<core::TQuestion>& questions,
             platform::TPrinter& printer, int32_t screenCharWidth, int32_t screenCharHeight,
             bool answerKey = false);

  void GetDialogInfo(int& minPage, int& maxPage, int& selFromPage, int& selToPage) override;
  void SetPrintParams(platform::TDC* dc, platform::TSize pageSize) override;
  bool HasPage(int pageNumber) override;
  void PrintPage(int page, platform::TRect& rect, unsigned flags) override;

  int32_t lineHeight = 0;
  int32_t screenCharWidth;
  int32_t screenCharHeight;
  int32_t pageBudget;
  int32_t currentPage = 1;
  int32_t pageCount = 1;
  std::vector<core::TStart> pages;
  const core::TList<core::TQuestion>& questions;
  platform::TPrintDialogData& printData;
  bool answerKey;

 private:
  void PrintQuestion(platform::TDC& dc, int index, int charWidth, int& y);
  void PrintLetters(platform::TDC& dc, const core::TLetters& letters, int x, int& y,
                    int charWidth);
  void PrintPicture(platform::TDC& dc, const core::TQuestion& question, int charWidth, int& y);
};

}  // namespace quizloom
