#include "engine/input_state.h"

#include "platform/window_messages.h"

uint8_t* KeyByte(InputState& in, uint32_t virtualKey) {
  switch (virtualKey) {
    case vk::VK_RETURN:
      return &in.enter;
    case vk::VK_SHIFT:
      return &in.shift;
    case vk::VK_CONTROL:
      return &in.control;
    case vk::VK_CAPITAL:
      return &in.capsLock;
    case vk::VK_ESCAPE:
      return &in.escape;
    case vk::VK_SPACE:
      return &in.space;
    case vk::VK_LEFT:
      return &in.left;
    case vk::VK_UP:
      return &in.up;
    case vk::VK_RIGHT:
      return &in.right;
    case vk::VK_DOWN:
      return &in.down;
    case vk::VK_DELETE:
      return &in.del;
    case 'A':
      return &in.keyA;
    case 'D':
      return &in.keyD;
    case 'S':
      return &in.keyS;
    case 'W':
      return &in.keyW;
    default:
      return nullptr;
  }
}
