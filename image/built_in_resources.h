#pragma once
// The five S19 resources compiled into the program from resources/*.s19 at build time.

#include "image/resource_source.h"

namespace tav {

const ResourceSource& BuiltInResources();

}  // namespace tav
