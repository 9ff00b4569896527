#pragma once
// The memory a report's reading and layout leave free, handed back.

namespace report {

// Hands the memory the allocator holds free back to the system: a report's reading leaves much of
// it, in pieces, and a closed window all of its own.
void giveBackMemory();

}  // namespace report
