#pragma once
// Where the manager keeps its work store and the preview file, decided in one place so that
// the manager and the previewer agree.

#include <QString>

// The user's data folder for Brellion (~/.local/share/Brellion: the manager's
// AppDataLocation, spelled out so that the previewer, a program of another name, finds the
// same one). Ends in '/'.
QString UserDataFolder();

// The folder holding "data.tmp" and "PREVIEW/preview.tmp", ending in '/'. programDir is the
// manager's own folder (ending in '/'). A folder the user may write (a program run where it
// was built, or copied somewhere of the user's) keeps everything beside the program; an
// installed program's folder cannot be written, and the user's data folder serves instead
// (made, with its PREVIEW folder, when missing; dataDir empty: UserDataFolder()).
QString WorkFolder(const QString& programDir, const QString& dataDir = QString());

// The folder Varno reads "preview.tmp" from, ending in '/': its own folder varnoDir (the
// manager's PREVIEW, ending in '/') when WorkFolder keeps the manager one folder up beside
// itself, else the PREVIEW folder in the user's data folder, where that manager writes it.
QString PreviewFolderForVarno(const QString& varnoDir, const QString& dataDir = QString());
