// "ini/main.ini": the settings records. Each record's first text names the
// setting, so the file can be edited by hand; the reader never looks at it.
#include "datagen/data_set.h"

namespace datagen {

void WriteConfigFile(DataSetWriter& out) {
  const std::string text =
      "0,display size for full screen: width and height (0 = the desktop's),,0,0\n"
      "5,windowed (1 = in a window; 0 = full screen),,1\n"
      "6,log file en1_log.txt (1 = write it),,0\n"
      "13,sound (1 = on),,1\n"
      "15,low detail: no fog or lights (1 = on),,0\n"
      "17,music (1 = on),,1\n"
      "19,controls (0 = arrows: up jumps and space attacks; 1 = space jumps and ctrl attacks),,0\n"
      "20,texts (1 = English; 0 = Russian),,1\n"
      "30,window scaling (0 = sharp; 1 = fit and smooth; 2 = stretch; 3 = whole factors only),,0\n"
      "31,window size at start: width and height of the picture (0 = 800 x 600),,0,0\n"
      "32,losing the focus (0 = pause and shrink the window; 1 = only pause),,0\n"
      "33,start a window in desktop full screen (1 = yes; Alt+Enter switches),,0\n"
      "34,gamepads (0 = on; 1 = off),,0\n"
      "13131313,end of the settings,,\n"
      "\n"
      "How to edit this file\n"
      "Every line above is one setting: its record number, a name, an empty\n"
      "field and the value(s). Only the numbers matter; keep the commas and\n"
      "do not put commas into a name. The game reads nothing after the line\n"
      "that starts with 13131313.\n"
      "Records 40 to 59 remap keys and pad buttons: \"40,J,LEFT,0\" makes J\n"
      "walk left, \"41,PAD_Y,SPACE,0\" makes the pad's Y press SPACE (the first\n"
      "text is a key or PAD_ and a pad button, the second the game key it\n"
      "stands for).\n"
      "Delete this file to get the default settings back.\n";
  out.WriteBytes("ini/main.ini", text);
}

}  // namespace datagen
