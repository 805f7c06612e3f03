// The end-to-end test's helper: writes the test file it takes and checks the results file
// the program stored, byte for byte.
//   quizdesk_e2e_helper write TEST_PATH COUNT [formula]
//   quizdesk_e2e_helper check RESULTS_PATH TEST_PATH FIRST LAST GIVEN:MARK:VERDICT...
//   quizdesk_e2e_helper results RESULTS_PATH    (printed with questions, page 2 is "8. E = mc2")
// Every question expects H2O with the 2 lowered. GIVEN is the text typed for the record in
// answering order, MARK the mark given to its second character, VERDICT 1 or 0. With
// "formula" every question reads "What is H2O?" with its 2 lowered.
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "core/results_codec.h"
#include "core/test_file_codec.h"
#include "taking/test_path_field.h"

namespace {

std::string QuestionText(int number) {
  return "Question " + std::to_string(number) + ": what is water?";
}

int Write(const std::string& path, int count, bool formula) {
  core::TList<core::TQuestion> questions;
  for (int number = 1; number <= count; ++number) {
    auto question = std::make_unique<core::TQuestion>();
    const std::string text = formula ? "What is H2O?" : QuestionText(number);
    for (char c : text) question->text.emplace_back(static_cast<unsigned char>(c), 0);
    if (formula) question->text[9].mark = 2;
    question->answer = {{'H', 0}, {'2', 2}, {'O', 0}};
    questions.Add(std::move(question));
  }
  const std::vector<uint8_t> bytes = core::EncodeTestFile(questions);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return out ? 0 : 1;
}

int Fail(const std::string& why) {
  std::fprintf(stderr, "results.qzr: %s\n", why.c_str());
  return 1;
}

int Check(char** argv, int argc) {
  std::ifstream in(argv[2], std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  const int count = argc - 6;
  if (bytes.size() != 199u + 3018u * static_cast<unsigned>(count))
    return Fail("size " + std::to_string(bytes.size()));
  auto stored = core::DecodeResults(bytes);
  if (!stored) return Fail("not readable");

  // The order is the program's random one: the numbers must be 1 to count, each once.
  std::set<int> numbers;
  for (const auto& response : stored->responses) numbers.insert(response->number);
  if (numbers.size() != static_cast<std::size_t>(count) || *numbers.begin() != 1 ||
      *numbers.rbegin() != count)
    return Fail("the numbers are not a permutation");

  // Everything else is known: build the attempt as it must be and compare every byte.
  core::TInformation expected;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  expected.year = local.tm_year + 1900;
  expected.month = local.tm_mon + 1;
  expected.day = local.tm_mday;
  core::CopyField(expected.firstName, sizeof expected.firstName, argv[4]);
  core::CopyField(expected.lastName, sizeof expected.lastName, argv[5]);
  core::CopyField(expected.testFile, sizeof expected.testFile,
                  quizdesk::FitPathToField(argv[3], sizeof expected.testFile));
  expected.questionCount = count;
  for (int i = 0; i < count; ++i) {
    const std::string expectation = argv[6 + i];
    const std::size_t colon1 = expectation.find(':'), colon2 = expectation.rfind(':');
    const std::string given = expectation.substr(0, colon1);
    const int32_t mark = std::stoi(expectation.substr(colon1 + 1, colon2 - colon1 - 1));
    const int32_t correct = std::stoi(expectation.substr(colon2 + 1));
    int32_t givenMarks[51] = {}, expectedMarks[51] = {0, 2}, questionMarks[500] = {};
    givenMarks[1] = mark;
    const int number = stored->responses[i].number;
    expected.responses.Add(std::make_unique<core::TResponse>(
        number, given.c_str(), "H2O", QuestionText(number).c_str(), correct, givenMarks,
        expectedMarks, questionMarks));
    expected.correctCount += correct;
  }
  const std::vector<uint8_t> image = core::EncodeResults(expected);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] != image[i])
      return Fail("byte " + std::to_string(i) + " is " + std::to_string(bytes[i]) + ", expected " +
                  std::to_string(image[i]));
  std::printf("results.qzr: %d records, %d correct, every byte as expected\n", count,
              expected.correctCount);
  return 0;
}

int WriteResults(const char* path) {  // 3 + 10 + 6 x 6 lines, then question 8 with its 2 raised
  core::TInformation information;
  const int32_t plain[500] = {}, raised[500] = {0, 0, 0, 0, 0, 0, core::kSuperscript};
  for (int n = 1; n <= 8; ++n)
    information.responses.Add(std::make_unique<core::TResponse>(
        n, "E", "E", n == 1 ? "1\r2\r3\r4\r5" : n == 8 ? "E = mc2" : "Q", 1, plain, plain,
        n == 8 ? raised : plain));
  const std::vector<uint8_t> bytes = core::EncodeResults(information);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "write") == 0)
    return Write(argv[2], std::atoi(argv[3]), argc == 5 && std::strcmp(argv[4], "formula") == 0);
  if (argc >= 7 && std::strcmp(argv[1], "check") == 0) return Check(argv, argc);
  if (argc == 3 && std::strcmp(argv[1], "results") == 0) return WriteResults(argv[2]);
  std::fprintf(stderr, "usage: see the top of quizdesk_e2e_helper.cpp\n");
  return 2;
}
