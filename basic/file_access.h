// The interpreter's hold on the program's open files.
#pragma once

#include <memory>

class FileTable;

std::unique_ptr<FileTable> MakeFileTable();
void CloseAllFiles(FileTable& files);
int FileAtEnd(FileTable& files, int number, bool& atEnd);
