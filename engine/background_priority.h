#pragma once
// Work that may take as long as it likes, such as writing the model cache after a load, runs on
// a thread that gives way to everything else: the user's dictation and the rest of the system.

namespace orvello {

// Lowers the calling thread's processor priority (and on Windows its disk and memory priority)
// for the rest of its life. Does nothing when the system refuses.
void LowerThisThreadsPriority() noexcept;

}  // namespace orvello
