// The mark on a temporary file that the program makes under a name of its
// own: an extended attribute naming the process that made it and when. Only
// a file with the mark, whose maker has ended, is ever removed as a leftover:
// a file of the user's, or a member extracted earlier, merely has the name.
#pragma once

namespace rkarc {

// Marks the file being made through `fd` (nothing where the file system
// keeps no user attributes: such a leftover then stays).
void MarkTemporary(int fd);
// Takes the mark off, before the file gets the name it is made for.
void UnmarkTemporary(int fd);
// The file carries the mark and its maker is gone: a process of this boot
// that has ended, or one elsewhere that made it over a day ago.
bool IsAbandonedTemporary(int fd);

}  // namespace rkarc
