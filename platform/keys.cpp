#include "platform/keys.h"

#include <QKeyEvent>
#include <utility>

#include "platform/cp1252.h"

namespace platform {

namespace {

constexpr std::pair<int, unsigned> kKeys[] = {
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB}, {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN}, {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU}, {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE}, {Qt::Key_PageUp, VK_PRIOR}, {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END}, {Qt::Key_Home, VK_HOME}, {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP}, {Qt::Key_Right, VK_RIGHT}, {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Delete, VK_DELETE}, {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Pause, 0x13}, {Qt::Key_Print, 0x2C},
    // The punctuation keys of a US keyboard, shifted or not.
    {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Colon, 0xBA}, {Qt::Key_Equal, 0xBB}, {Qt::Key_Plus, 0xBB},
    {Qt::Key_Comma, 0xBC}, {Qt::Key_Less, 0xBC}, {Qt::Key_Minus, 0xBD}, {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Period, 0xBE}, {Qt::Key_Greater, 0xBE}, {Qt::Key_Slash, 0xBF},
    {Qt::Key_Question, 0xBF}, {Qt::Key_QuoteLeft, 0xC0}, {Qt::Key_AsciiTilde, 0xC0},
    {Qt::Key_BracketLeft, 0xDB}, {Qt::Key_BraceLeft, 0xDB}, {Qt::Key_Backslash, 0xDC},
    {Qt::Key_Bar, 0xDC}, {Qt::Key_BracketRight, 0xDD}, {Qt::Key_BraceRight, 0xDD},
    {Qt::Key_Apostrophe, 0xDE}, {Qt::Key_QuoteDbl, 0xDE},
    {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'}, {Qt::Key_ParenRight, '0'},
};

}  // namespace

unsigned VirtualKeyOf(int qtKey) {
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
    return static_cast<unsigned>(qtKey);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
    return VK_F1 + static_cast<unsigned>(qtKey - Qt::Key_F1);
  for (auto [key, vk] : kKeys)
    if (key == qtKey) return vk;
  // Qt names a character key by its character; keys without one (arrows, F-keys) lie above.
  if (qtKey > Qt::Key_Space && qtKey < Qt::Key_Escape) return VK_PACKET;
  return 0;
}

int QtKeyOf(unsigned virtualKey) {
  if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
    return static_cast<int>(virtualKey);
  if (virtualKey >= VK_F1 && virtualKey < VK_F1 + 24)
    return Qt::Key_F1 + static_cast<int>(virtualKey - VK_F1);
  for (auto [key, vk] : kKeys)
    if (vk == virtualKey) return key;
  return 0;
}

std::optional<unsigned> CharacterOf(const QKeyEvent& event) {
  const int key = event.key();
  const bool control = event.modifiers() & Qt::ControlModifier;
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return control ? 10u : 13u;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9u;
    case Qt::Key_Backspace: return control ? 127u : 8u;
    case Qt::Key_Escape: return 27u;
    default: break;
  }
  if (control) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<unsigned>(key - Qt::Key_A + 1);
    return std::nullopt;
  }
  const QString text = event.text();
  if (text.isEmpty()) return std::nullopt;
  const char32_t c = text.toUcs4().front();
  if (c < 0x20 || c == 0x7F) return std::nullopt;
  auto byte = ToCp1252Char(c);
  if (!byte) return std::nullopt;
  return static_cast<unsigned>(*byte);
}

}  // namespace platform
