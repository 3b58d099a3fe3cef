#pragma once

namespace tunola {

// Hands freed heap memory back to the system, so an idle player stays small.
void TrimWorkingSet();

// Once, first thing in main: blocks of 128 KiB and more always come from the system and go back
// to it when freed. glibc otherwise raises that bound to the size of each big block freed, so
// after one big temporary (a folder of 10,000 names, the text of a long list being saved) the
// next ones land in the heap, between entries that stay, and their pages never go back: 2.7 MiB
// more resident after adding 10,000 files.
void TuneAllocator();

} // namespace tunola
