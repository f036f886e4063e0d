#include "sky/object_types.h"

#include <array>
#include <utility>

namespace orniva {

namespace {

struct TypeCode {
  std::string_view code;
  ObjectGroup group;
};

constexpr std::array kTypeCodes = {
    TypeCode{"gx", ObjectGroup::Galaxies},
    TypeCode{"galxy", ObjectGroup::Galaxies},
    TypeCode{"pl", ObjectGroup::PlanetaryNebulae},
    TypeCode{"plnnb", ObjectGroup::PlanetaryNebulae},
    TypeCode{"c+n", ObjectGroup::ClustersWithNebulosity},
    TypeCode{"cl+nb", ObjectGroup::ClustersWithNebulosity},
    TypeCode{"smccn", ObjectGroup::ClustersWithNebulosity},
    TypeCode{"lmccn", ObjectGroup::ClustersWithNebulosity},
    TypeCode{"nb", ObjectGroup::Nebulae},
    TypeCode{"drknb", ObjectGroup::Nebulae},
    TypeCode{"brtnb", ObjectGroup::Nebulae},
    TypeCode{"gx+dn", ObjectGroup::Nebulae},
    TypeCode{"smcdn", ObjectGroup::Nebulae},
    TypeCode{"lmcdn", ObjectGroup::Nebulae},
    TypeCode{"oc", ObjectGroup::OpenClusters},
    TypeCode{"opncl", ObjectGroup::OpenClusters},
    TypeCode{"lmcoc", ObjectGroup::OpenClusters},
    TypeCode{"smcoc", ObjectGroup::OpenClusters},
    TypeCode{"galcl", ObjectGroup::GalaxyClusters},
    TypeCode{"gb", ObjectGroup::GlobularClusters},
    TypeCode{"glocl", ObjectGroup::GlobularClusters},
    TypeCode{"lmcgc", ObjectGroup::GlobularClusters},
    TypeCode{"smcgc", ObjectGroup::GlobularClusters},
    TypeCode{"gx+gc", ObjectGroup::GlobularClusters},
    TypeCode{"ast", ObjectGroup::Others},
    TypeCode{"aster", ObjectGroup::Others},
    TypeCode{"d*", ObjectGroup::Others},
    TypeCode{"***", ObjectGroup::Others},
    TypeCode{"1*", ObjectGroup::Others},
    TypeCode{"2*", ObjectGroup::Others},
    TypeCode{"3*", ObjectGroup::Others},
    TypeCode{"4*", ObjectGroup::Others},
    TypeCode{"5*", ObjectGroup::Others},
    TypeCode{"*", ObjectGroup::Others},
    TypeCode{"kt", ObjectGroup::Others},
    TypeCode{"-", ObjectGroup::Others},
    TypeCode{"nonex", ObjectGroup::Others},
    TypeCode{"pd", ObjectGroup::Others},
    TypeCode{"snrem", ObjectGroup::Others},
    TypeCode{"?", ObjectGroup::Others},
};

}  // namespace

ObjectGroup GroupOfType(std::string_view objectType) {
  for (const TypeCode& t : kTypeCodes) {
    if (t.code == objectType) return t.group;
  }
  return ObjectGroup::None;
}

std::string_view GroupCaption(ObjectGroup group) {
  switch (group) {
    case ObjectGroup::Galaxies:
      return "Galaxies";
    case ObjectGroup::PlanetaryNebulae:
      return "Nébul.Planétaires";
    case ObjectGroup::ClustersWithNebulosity:
      return "Amas+Nebulosités";
    case ObjectGroup::Nebulae:
      return "Nébuleuses";
    case ObjectGroup::OpenClusters:
      return "Amas Ouverts";
    case ObjectGroup::GalaxyClusters:
      return "Amas de Galaxies";
    case ObjectGroup::GlobularClusters:
      return "Amas Globulaires";
    case ObjectGroup::Others:
      return "Autres objets";
    case ObjectGroup::None:
      break;
  }
  return {};
}

}  // namespace orniva
