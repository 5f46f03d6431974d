#pragma once

#include <QString>

// What a save needs of the system to outlast a power cut, and the system's own
// words for the failures the store words itself. Each call gives an empty text when
// it succeeded and the system's reason otherwise.
namespace FileSync {

// The written data of the open file, by its descriptor, on the disk.
QString flushData(int handle);
// A rename within the folder on the disk.
QString flushFolder(const QString& path);
// What the system says of a folder where a file was to be opened, and of a
// file the user may not create.
QString folderReason();
QString deniedReason();

} // namespace FileSync
