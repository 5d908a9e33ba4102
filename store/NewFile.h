#pragma once

#include <QString>

// Files the program makes beside what it keeps: created only as new regular
// files of the user alone, and put under their name only where nothing stands,
// so nothing is ever written through a planted link or over another file.

// Creates an empty file that did not exist, never following a link; returns
// the system's error number when it could not (0 when made). With openFile
// the file stays open for writing there, so nothing put at its name in the
// meantime is written instead.
int createNewFile(const QString& path, int* openFile = nullptr);

// Gives the finished file `fresh` the name `target` where nothing stands
// there, and syncs the folder; `fresh` is gone afterwards either way when it
// was placed. A link never replaces what appeared in the meantime; a FAT
// stick has no links, and there a rename after a last look will do. Returns
// why it could not (empty when placed).
QString placeUnderName(const QString& fresh, const QString& target);
