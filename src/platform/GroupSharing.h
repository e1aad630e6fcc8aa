#pragma once

#include <QString>

// In a data folder shared by a group (set-group-ID on Linux, as the package
// lays it out), every member runs the program: a file the program creates
// there must be writable by the group whatever the creator's umask. On
// Windows the folder's inherited permissions see to it.
//
// Makes the file group-writable when its folder is shared that way; throws
// std::runtime_error when it cannot.
void shareWithTheFolderGroup(const QString& file);

// What a user who may not change the data in that folder is told, in French:
// whom to ask for what.
QString sharedFolderRefusal(const QString& folder);
