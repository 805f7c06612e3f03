#pragma once
#include <optional>

class QKeyEvent;

namespace platform {

// Windows virtual-key codes the programs use.
enum VirtualKey : unsigned {
  VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
  VK_MENU = 0x12, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22,
  VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
  VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73,
  VK_PACKET = 0xE7,
};

// The virtual-key code of a Qt key (0 when there is none), and the reverse for accelerators.
// A character key without a code of its own (ü, é, ß on their own keys) is VK_PACKET, so it
// still sends key-down and key-up as every key did.
unsigned VirtualKeyOf(int qtKey);
int QtKeyOf(unsigned virtualKey);

// The character message a key press makes, as the old system sent it: Enter 13 (with Ctrl a
// line feed, 10), Tab 9, Backspace 8 (with Ctrl 127), Esc 27, Ctrl+letter its control code,
// printable keys their Windows-1252 byte.
// Keys that make no character (arrows, Delete, F-keys) and characters outside Windows-1252
// give nothing.
std::optional<unsigned> CharacterOf(const QKeyEvent& event);

}  // namespace platform
