#include "app/CheckForUpdate.h"

namespace corvane {

void CheckForUpdate(UpdateMode)
{
}

}  // namespace corvane
