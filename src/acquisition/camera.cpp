#include "acquisition/camera.h"

namespace orniva {

std::string FrameTooLargeMessage(int width, int height) {
  if (width <= kMaxFrameWidth && height <= kMaxFrameHeight) return {};
  return "La taille des images video est limitée à " + std::to_string(kMaxFrameWidth) + "x" +
         std::to_string(kMaxFrameHeight) + "\r\nLa taille actuelle est " + std::to_string(width) +
         "x" + std::to_string(height) + ", veuillez choisir un autre format.";
}

}  // namespace orniva
