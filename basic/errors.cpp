#include "basic/errors.h"

namespace {

struct ErrorText {
  int code;
  const char* message;
};

// In number order; the gaps are the numbers that print "Unprintable error".
constexpr ErrorText kMessages[] = {
    {kErrNextWithoutFor, "NEXT without FOR"},
    {kErrSyntax, "Syntax error"},
    {kErrReturnWithoutGosub, "RETURN without GOSUB"},
    {kErrOutOfData, "Out of DATA"},
    {kErrIllegalFunctionCall, "Illegal function call"},
    {kErrOverflow, "Overflow"},
    {kErrOutOfMemory, "Out of memory"},
    {kErrUndefinedLine, "Undefined line number"},
    {kErrSubscriptOutOfRange, "Subscript out of range"},
    {kErrDuplicateDefinition, "Duplicate Definition"},
    {kErrDivisionByZero, "Division by zero"},
    {kErrIllegalDirect, "Illegal direct"},
    {kErrTypeMismatch, "Type mismatch"},
    {kErrOutOfStringSpace, "Out of string space"},
    {kErrStringTooLong, "String too long"},
    {kErrStringFormulaTooComplex, "String formula too complex"},
    {kErrCantContinue, "Can't continue"},
    {kErrUndefinedUserFunction, "Undefined user function"},
    {kErrNoResume, "No RESUME"},
    {kErrResumeWithoutError, "RESUME without error"},
    {kErrUnprintable, "Unprintable error"},
    {kErrMissingOperand, "Missing operand"},
    {kErrLineBufferOverflow, "Line buffer overflow"},
    {kErrDeviceTimeout, "Device Timeout"},
    {kErrDeviceFault, "Device Fault"},
    {kErrForWithoutNext, "FOR without NEXT"},
    {kErrOutOfPaper, "Out of Paper"},
    {kErrWhileWithoutWend, "WHILE without WEND"},
    {kErrWendWithoutWhile, "WEND without WHILE"},
    {kErrFieldOverflow, "FIELD overflow"},
    {kErrInternal, "Internal error"},
    {kErrBadFileNumber, "Bad file number"},
    {kErrFileNotFound, "File not found"},
    {kErrBadFileMode, "Bad file mode"},
    {kErrFileAlreadyOpen, "File already open"},
    {kErrDeviceIo, "Device I/O Error"},
    {kErrFileAlreadyExists, "File already exists"},
    {kErrDiskFull, "Disk full"},
    {kErrInputPastEnd, "Input past end"},
    {kErrBadRecordNumber, "Bad record number"},
    {kErrBadFileName, "Bad file name"},
    {kErrDirectStatementInFile, "Direct statement in file"},
    {kErrTooManyFiles, "Too many files"},
    {kErrDeviceUnavailable, "Device Unavailable"},
    {kErrCommunicationBufferOverflow, "Communication buffer overflow"},
    {kErrPermissionDenied, "Permission Denied"},
    {kErrDiskNotReady, "Disk not Ready"},
    {kErrDiskMediaError, "Disk media error"},
    {kErrAdvancedFeature, "Advanced Feature"},
    {kErrRenameAcrossDisks, "Rename across disks"},
    {kErrPathFileAccess, "Path/File Access Error"},
    {kErrPathNotFound, "Path not found"},
};

}  // namespace

const char* ErrorMessage(int code) {
  for (const ErrorText& entry : kMessages) {
    if (entry.code == code) return entry.message;
  }
  return "Unprintable error";
}
