#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// Files the program makes beside what it keeps: created only as new regular
// files of the user alone, and put under their name only where nothing stands,
// so nothing is ever written through a planted link or over another file.

// Creates an empty file that did not exist, never following a link; returns
// the system's error number when it could not (0 when made). With openFile
// the file stays open for reading and writing there, so nothing put at its
// name in the meantime is written instead.
int createNewFile(const QString& path, int* openFile = nullptr);

// Gives the finished file `fresh` the name `target` where nothing stands
// there, and syncs the folder; `fresh` is gone afterwards either way when it
// was placed. A link never replaces what appeared in the meantime; a FAT
// stick has no links, and there a rename after a last look will do. Returns
// why it could not (empty when placed).
QString placeUnderName(const QString& fresh, const QString& target);

// Writes the bytes whole to an open file; returns the system's error number
// when it could not (0 when written).
int writeAll(int descriptor, const char* data, qint64 size);

// What a system error number means, in Turkish for the ones a collector can
// mend (a full disk, a missing permission...), the system's text otherwise.
QString systemErrorText(int number);

// Writes the file at `target` whole or not at all: into a new file beside it
// (created here and now, never through a link), synced, its last bytes
// checked to be `end` when one is given, and only then renamed over the
// target. A link standing at the target is replaced, never written through;
// a file of the user's own keeps its mode. `write` fills the open file and
// says whether it could. Returns why it could not, in Turkish (empty when
// written); then whatever stood at the target is left as it was.
QString replaceWhole(const QString& target, const std::function<bool(QIODevice& file)>& write,
                     const QByteArray& end = {});
