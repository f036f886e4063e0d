#include "acquisition/frame_limits.h"

namespace orniva {

std::string FrameSizeMessage(int width, int height) {
  if (width <= 0 || height <= 0) {
    return "Impossible de determiner le format des images, veuillez en choisir un autre.";
  }
  return FrameTooLargeMessage(width, height);
}

}  // namespace orniva
