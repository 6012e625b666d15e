// musicdec: turns the packed track beside it into a looping WAV file.
#include <string>
#include <vector>

#include "musicdec/decoder.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  return musicdec::RunDecoder(args);
}
