#pragma once

#include <string_view>

namespace orniva {

// The display groups of deep-sky objects: each has its check box, colour and
// magnitude limits on the chart, and its search category.
enum class ObjectGroup {
  None,  // a type code of no group: never drawn
  Galaxies,
  PlanetaryNebulae,
  ClustersWithNebulosity,
  Nebulae,
  OpenClusters,
  GalaxyClusters,
  GlobularClusters,
  Others,
};

// The group of a deep-sky record's type code (lower case, trimmed, as the
// reader stores it).
ObjectGroup GroupOfType(std::string_view objectType);
// The caption of the group's check box ("Galaxies", "Nébul.Planétaires"…);
// empty for None.
std::string_view GroupCaption(ObjectGroup group);

}  // namespace orniva
