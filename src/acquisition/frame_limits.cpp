#include "acquisition/frame_limits.h"

namespace orniva {

std::string FrameSizeMessage(int width, int height) {
  if (width <= 0 || height <= 0) {
    return "Impossible de determiner le format des images, veuillez en choisir un autre.";
  }
  if (width > kMaxFrameWidth || height > kMaxFrameHeight) {
    return "La taille des images video est limitée à " + std::to_string(kMaxFrameWidth) + "x" +
           std::to_string(kMaxFrameHeight) + "\r\nLa taille actuelle est " + std::to_string(width) +
           "x" + std::to_string(height) + ", veuillez choisir un autre format.";
  }
  return {};
}

}  // namespace orniva
