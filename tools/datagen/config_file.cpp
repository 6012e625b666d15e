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
      "13131313,end of the settings,,\n"
      "\n"
      "How to edit this file\n"
      "Every line above is one setting: its record number, a name, an empty\n"
      "field and the value(s). Only the numbers matter; keep the commas and\n"
      "do not put commas into a name. The game reads nothing after the line\n"
      "that starts with 13131313.\n"
      "Delete the whole game folder to get the default settings back.\n";
  out.WriteBytes("ini/main.ini", text);
}

}  // namespace datagen
