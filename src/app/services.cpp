#include "app/services.h"

namespace klarex {

KlarexServices::KlarexServices() { PrepareSecurityState(security); }

}  // namespace klarex
