#pragma once

namespace tunola {

// Hands freed heap memory back to the system, so an idle player stays small.
void TrimWorkingSet();

} // namespace tunola
