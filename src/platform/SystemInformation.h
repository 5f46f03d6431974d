#pragma once

// The system's own information tool, which the About box offers to start.
namespace SystemInformation {

// Starts the tool as a normal window with the focus, without waiting for it:
// false when the system names none, or it does not start.
bool start();

} // namespace SystemInformation
