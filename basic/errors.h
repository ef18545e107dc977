// The run-time error numbers of the BASIC dialect and the message each one prints. The numbers are
// what ERR returns, what ERROR n raises and what ON ERROR handlers test, so they never change.
#pragma once

constexpr int kErrNextWithoutFor = 1;
constexpr int kErrSyntax = 2;
constexpr int kErrReturnWithoutGosub = 3;
constexpr int kErrOutOfData = 4;
constexpr int kErrIllegalFunctionCall = 5;
constexpr int kErrOverflow = 6;
constexpr int kErrOutOfMemory = 7;
constexpr int kErrUndefinedLine = 8;
constexpr int kErrSubscriptOutOfRange = 9;
constexpr int kErrDuplicateDefinition = 10;
constexpr int kErrDivisionByZero = 11;
constexpr int kErrIllegalDirect = 12;
constexpr int kErrTypeMismatch = 13;
constexpr int kErrOutOfStringSpace = 14;
constexpr int kErrStringTooLong = 15;
constexpr int kErrStringFormulaTooComplex = 16;
constexpr int kErrCantContinue = 17;
constexpr int kErrUndefinedUserFunction = 18;
constexpr int kErrNoResume = 19;
constexpr int kErrResumeWithoutError = 20;
constexpr int kErrUnprintable = 21;
constexpr int kErrMissingOperand = 22;
constexpr int kErrLineBufferOverflow = 23;
constexpr int kErrDeviceTimeout = 24;
constexpr int kErrDeviceFault = 25;
constexpr int kErrForWithoutNext = 26;
constexpr int kErrOutOfPaper = 27;
constexpr int kErrWhileWithoutWend = 29;
constexpr int kErrWendWithoutWhile = 30;
constexpr int kErrFieldOverflow = 50;
constexpr int kErrInternal = 51;
constexpr int kErrBadFileNumber = 52;
constexpr int kErrFileNotFound = 53;
constexpr int kErrBadFileMode = 54;
constexpr int kErrFileAlreadyOpen = 55;
constexpr int kErrDeviceIo = 57;
constexpr int kErrFileAlreadyExists = 58;
constexpr int kErrDiskFull = 61;
constexpr int kErrInputPastEnd = 62;
constexpr int kErrBadRecordNumber = 63;
constexpr int kErrBadFileName = 64;
constexpr int kErrDirectStatementInFile = 66;
constexpr int kErrTooManyFiles = 67;
constexpr int kErrDeviceUnavailable = 68;
constexpr int kErrCommunicationBufferOverflow = 69;
constexpr int kErrPermissionDenied = 70;
constexpr int kErrDiskNotReady = 71;
constexpr int kErrDiskMediaError = 72;
constexpr int kErrAdvancedFeature = 73;
constexpr int kErrRenameAcrossDisks = 74;
constexpr int kErrPathFileAccess = 75;
constexpr int kErrPathNotFound = 76;

// The message for an error number, as printed before " in <line>". Numbers without a message of their
// own (0, 28, 31..49, 56, 59, 60, 65, 77 and up, negatives; ERROR n can raise any of 1..255) give
// "Unprintable error". The text is static and never freed.
const char* ErrorMessage(int code);
