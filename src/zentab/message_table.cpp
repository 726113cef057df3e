// The numbered message table: the numbers are part of the interface (the error callback
// receives them), so entries are never renumbered.
#include "zentab/messages.h"

namespace crv::zt {

namespace {

// One line per message, so that each keeps its number beside it.
// clang-format off
constexpr MessageInfo kMessages[kMessageCount] = {
    {true, ArgKind::None, "?ZT-E-Backed up too far\n"}, // 0
    {false, ArgKind::None, "ZT-Warning caseless ignored, incompatible with doublebyte\n\n"}, // 1
    {false, ArgKind::String, "Warning, group %s excluded but not active\n"}, // 2
    {false, ArgKind::Number, "Value %ld in 'back val(store)' inappropriate.\n"}, // 3
    {false, ArgKind::String, "Storage overflow of store %s\n"}, // 4
    {true, ArgKind::Number, "?ZT-E-Use of more than %ld groups\n"}, // 5
    {false, ArgKind::String, "contents of store %s unchanged\n"}, // 6
    {false, ArgKind::None, "100%% complete\n"}, // 7
    {false, ArgKind::None, "Warning, store() content stack overflow.  Current storage context not saved.\n"}, // 8
    {false, ArgKind::None, "Warning, store() content stack underflow.  Current storage context not restored.\n"}, // 9
    {false, ArgKind::Number, "Warning, value %ld in 'back val(store)' construct larger than the size of the back buffer. Executing a 'back(1)' command\n"}, // 10
    {true, ArgKind::None, "?ZT-E-Backed too far storing\n"}, // 11
    {false, ArgKind::None, "Warning, cannot decr new variable, it is not decremented\n"}, // 12
    {false, ArgKind::None, "Warning, cannot decr variable that is zero, it is not decremented\n"}, // 13
    {false, ArgKind::None, "Warning, doublebyte settings inconsistent.  Verify it is specified correctly in begin section\n"}, // 14
    {true, ArgKind::None, "Output file full, processing aborted\n"}, // 15
    {false, ArgKind::None, "Disk with output file full.  File is only partly complete!\n"}, // 16
    {false, ArgKind::None, "Warning, doublebyte output no longer matches doublebyte criteria\n"}, // 17
    {false, ArgKind::None, "Warning, doublebyte command has more than two arguments, others ignored\n"}, // 18
    {true, ArgKind::TwoStrings, "Arithmetic: %s in group %s\n"}, // 19
    {false, ArgKind::StringCharString, "%s %c %s\n"}, // 20
    {true, ArgKind::None, "Input and output files must be different!\n"}, // 21
    {true, ArgKind::TwoStrings, "Wildcard mismatch between input \"%s\" and output \"%s\"\n"}, // 22
    {false, ArgKind::String, "?ZT-WARNING: defaulting to empty group %s\n"}, // 23
    {true, ArgKind::TwoStrings, "Input filename \"%s\" too long for available characters in output filename \"%s\". No processing occurred\n"}, // 24
    {true, ArgKind::None, "?ZT-F-Defaulting to non-existent group 1\n"}, // 25
    {true, ArgKind::String, "?ZT-E-No definition for do(%s)\n"}, // 26
    {true, ArgKind::String, "%s does not exist in specified path.\n"}, // 27
    {true, ArgKind::Number, "Total number of files must not exceed %ld.\n"}, // 28
    {true, ArgKind::None, "Memory allocation error. Exiting program.\n"}, // 29
    {true, ArgKind::None, "Unable to do changes.\n"}, // 30
    {true, ArgKind::None, "ZT fatal error; aborting host application\n"}, // 31
    {false, ArgKind::String, "WARNING: Store %s used but never stored into\n"}, // 32
    {false, ArgKind::String, "WARNING: Switch %s tested but never set or cleared\n"}, // 33
    {false, ArgKind::String, "WARNING: use(%s) encountered, but group never defined\n"}, // 34
    {false, ArgKind::String, "WARNING: do(%s) used but never defined\n"}, // 35
    {true, ArgKind::None, "Not enough memory\n  (your font file is probably too big)\n"}, // 36
    {false, ArgKind::Number, "Only %ld bytes available to be allocated.  More is needed!\n"}, // 37
    {true, ArgKind::Number, "?ZT-F-Too many changes, limit is %ld\n"}, // 38
    {true, ArgKind::String, "?ZT-F-Group %s multiply defined\n"}, // 39
    {false, ArgKind::None, "?ZT-W-Font section of table is ignored in ZT\n"}, // 40
    {true, ArgKind::None, "?ZT-E-Group command not in front of change\n"}, // 41
    {true, ArgKind::Number, "?ZT-E-Do nested deeper than %ld\n"}, // 42
    {true, ArgKind::None, "?ZT-E-Fwd too many\n"}, // 43
    {true, ArgKind::None, "?ZT-E-Omit too many\n"}, // 44
    {true, ArgKind::None, "?ZT-E-'caseless' command not in begin section\n"}, // 45
    {true, ArgKind::None, "?ZT-E-'binary' command not in begin section\n"}, // 46
    {true, ArgKind::None, "?ZT-E-'doublebyte' command not in begin section\n"}, // 47
    {true, ArgKind::None, "?ZT-E-'unsorted' command not in begin section\n"}, // 48
    {true, ArgKind::String, "?ZT-E-Illegal use of command '%s' after >\n"}, // 49
    {true, ArgKind::String, "FATAL ERROR!\nexcl command in group %s removes all active groups\n"}, // 50
    {false, ArgKind::Number, "Too many prec()'s in succession, using only the first %ld"}, // 51
    {true, ArgKind::String, "?ZT-E-Illegal use of command '%s' before >\n"}, // 52
    {true, ArgKind::TwoStrings, "%s\n?ZT-F-%s\n"}, // 53
    {false, ArgKind::String, "Unrecognized option %s will be ignored.\n"}, // 54
    {true, ArgKind::String, "Change table %s not found.\n"}, // 55
    {true, ArgKind::None, "?ZT-E-Table too large.\n"}, // 56
    {true, ArgKind::None, "There were errors in the change table.\nCorrect the errors and rerun.\n"}, // 57
    {true, ArgKind::String, "Unable to open %s\n"}, // 58
    {true, ArgKind::None, "Table file overflow.\n"}, // 59
    {true, ArgKind::None, "Could not reallocate aux output buffer.  Need more memory!\n"}, // 60
    {true, ArgKind::None, "Aux output buffer allocation failed.  Need more memory!\n"}, // 61
    {true, ArgKind::None, "Auxiliary output buffer GlobalLock Failed!\n"}, // 62
    {true, ArgKind::None, "ZT save state GlobalAlloc failed.  Probably need more memory!\n"}, // 63
    {true, ArgKind::None, "ZT save state GlobalLock failed!\n"}, // 64
    {true, ArgKind::String, "ZT save state GlobalUnlock failed in unlocking %s!\n"}, // 65
    {true, ArgKind::None, "ZT restore state was passed NULL handle.  Call ZT with valid handle!\n"}, // 66
    {true, ArgKind::None, "ZT restore state GlobalLock failed!\n"}, // 67
    {true, ArgKind::None, "ZT restore state GlobalUnlock failed!\n"}, // 68
    {true, ArgKind::None, "ZTLoadTable was passed invalid name of ZT change table.  Pass in valid name!\n"}, // 69
    {true, ArgKind::None, "ZTLoadTable encountered ZT error.  Fix problem and rerun!\n"}, // 70
    {true, ArgKind::None, "ZTReinitializeTable was passed NULL handle.  Call ZT with valid handle!\n"}, // 71
    {true, ArgKind::None, "ZTReinitializeTable encountered ZT error.  Fix problem and rerun!\n"}, // 72
    {true, ArgKind::None, "ZTUnloadTable was passed NULL handle.  Call ZT with valid handle!\n"}, // 73
    {true, ArgKind::None, "ZTUnloadTable GlobalUnlock failed!\n"}, // 74
    {true, ArgKind::None, "ZTUnloadTable GlobalFree failed!\n"}, // 75
    {true, ArgKind::None, "ZTSetErrorCallBack was passed NULL handle.  Call ZT with valid handle!\n"}, // 76
    {true, ArgKind::None, "ZTSetUpInputFilter was passed NULL handle.  Call ZT with valid handle!\n"}, // 77
    {true, ArgKind::None, "ZTSetUpInputFilter GlobalAlloc failed.  Need more memory!\n"}, // 78
    {true, ArgKind::None, "ZTSetUpInputFilter GlobalLock failed!\n"}, // 79
    {true, ArgKind::None, "ZTGetBuffer was passed NULL handle.  Call ZT with valid handle!\n"}, // 80
    {true, ArgKind::None, "ZTGetBuffer encountered ZT error.  Fix problem and rerun!\n"}, // 81
    {true, ArgKind::None, "ZTProcessBuffer was passed NULL handle.  Call ZT with valid handle!\n"}, // 82
    {true, ArgKind::Number, "ZTProcessBuffer was passed output buffer of only %ld bytes, more needed!\nRerun with larger output buffer!\n"}, // 83
    {true, ArgKind::None, "ZTProcessBuffer encountered ZT error.  Fix problem and rerun!\n"}, // 84
    {true, ArgKind::None, "ZTGetBuffer has NULL callback address!\nMust have successful call to ZTSetUpInputFilter first!\n"}, // 85
    {true, ArgKind::None, "ZTPutBuffer has NULL callback address!\nMust have successful call to ZTSetUpOutputFilter first!\n"}, // 86
    {true, ArgKind::None, "ZTSetUpOutputFilter was passed NULL handle.  Call ZT with valid handle!\n"}, // 87
    {true, ArgKind::None, "ZTSetUpOutputFilter GlobalAlloc failed.  Need more memory!\n"}, // 88
    {true, ArgKind::None, "ZTSetUpOutputFilter GlobalLock failed!\n"}, // 89
    {true, ArgKind::None, "ZTPutBuffer was passed NULL handle.  Call ZT with valid handle!\n"}, // 90
    {true, ArgKind::None, "ZTPutBuffer encountered ZT error.  Fix problem and rerun!\n"}, // 91
    {true, ArgKind::None, "ZTPutBuffer encountered error in output callback function.\nFix problem and rerun!\n"}, // 92
    {false, ArgKind::None, "ZTGetBuffer called with no output data requested.\nReturning to caller after doing nothing!\n"}, // 93
    {false, ArgKind::None, "ZTProcessBuffer called with no input data.\nReturning to caller after doing nothing!\n"}, // 94
    {true, ArgKind::None, "ZTProcessFile input routine FillFunction had DLL failure getting segment address to data for calling task!\n"}, // 95
    {true, ArgKind::None, "ZTPutBuffer was passed NULL input buffer pointer, but input data length greater than zero!.\nPlease fix problem and rerun!\n"}, // 96
    {true, ArgKind::None, "ZTProcessBuffer call to ZTReinitializeTable unsuccessful!\n"}, // 97
    {true, ArgKind::None, "ZTLoadTable was passed NULL pointer to handle.  Pass in valid value!\n"}, // 98
    {false, ArgKind::None, "ZT-Warning binary keyword ignored, incompatible with doublebyte\n\n"}, // 99
    {true, ArgKind::None, "ZTSetUpInputFilter was passed NULL function pointer.  Call ZT with valid value!\n"}, // 100
    {true, ArgKind::None, "ZTGetBuffer was passed NULL output buffer pointer.  Call ZT with valid value!\n"}, // 101
    {true, ArgKind::None, "ZTProcessBuffer was passed NULL output buffer length pointer.  Call ZT with valid value!\n"}, // 102
    {true, ArgKind::None, "ZTProcessBuffer was passed NULL input buffer pointer.  Call ZT with valid value!\n"}, // 103
    {true, ArgKind::None, "ZTProcessBuffer was passed NULL output buffer pointer.  Call ZT with valid value!\n"}, // 104
    {true, ArgKind::None, "ZTMultiProcessBuffer was passed NULL handle.  Call ZT with valid handle!\n"}, // 105
    {true, ArgKind::None, "ZTMultiProcessBuffer was passed NULL input buffer pointer.  Call ZT with valid value!\n"}, // 106
    {true, ArgKind::None, "ZTMultiProcessBuffer was passed NULL output buffer length pointer.  Call ZT with valid value!\n"}, // 107
    {false, ArgKind::None, "ZTMultiProcessBuffer called asking for no output data.\nReturning to caller after doing nothing!\n"}, // 108
    {true, ArgKind::None, "ZTMultiProcessBuffer was passed NULL output buffer pointer.  Call ZT with valid value!\n"}, // 109
    {true, ArgKind::None, "ZTMultiProcessBuffer encountered ZT error.  Fix problem and rerun!\n"}, // 110
    {true, ArgKind::None, "ZTMultiProcessBuffer called after it passed back completion return code!\n  Must first call ZTReinitializeTable before calling again!\n"}, // 111
    {true, ArgKind::None, "ZTGetBuffer called after it passed back completion return code!\n  Must first call ZTReinitializeTable before calling again!\n"}, // 112
    {true, ArgKind::None, "ZTMultiProcessBuffer passed input data.\nReturn value from last call indicates it must be passed no input data this time!\n"}, // 113
    {true, ArgKind::None, "ZTLoadTable could not register the DLL task!\n"}, // 114
    {true, ArgKind::None, "ZTReinitializeTable had DLL failure getting segment address to data for calling task!\n"}, // 115
    {true, ArgKind::None, "ZTUnloadTable had DLL failure getting segment address to data for calling task!\n"}, // 116
    {true, ArgKind::None, "ZTSetErrorCallBack had DLL failure getting segment address to data for calling task!\n"}, // 117
    {true, ArgKind::None, "ZTSetUpInputFilter had DLL failure getting segment address to data for calling task!\n"}, // 118
    {true, ArgKind::None, "ZTGetBuffer had DLL failure getting segment address to data for calling task!\n"}, // 119
    {true, ArgKind::None, "ZTProcessBuffer had DLL failure getting segment address to data for calling task!\n"}, // 120
    {true, ArgKind::None, "ZTMulti{rocessBuffer had DLL failure getting segment address to data for calling task!\n"}, // 121
    {true, ArgKind::None, "ZTSetUpOutputFilter had DLL failure getting segment address to data for calling task!\n"}, // 122
    {true, ArgKind::None, "ZTPutBuffer had DLL failure getting segment address to data for calling task!\n"}, // 123
    {true, ArgKind::None, "ZTLoadTable called with NULL handle (hinstance) for calling task!\n"}, // 124
    {true, ArgKind::None, "ZTProcessFile was passed NULL handle.  Call ZT with valid handle!\n"}, // 125
    {true, ArgKind::None, "ZTProcessFile was passed NULL input file pointer! Fix problem and rerun!\n"}, // 126
    {true, ArgKind::None, "ZTProcessFile was passed NULL output file pointer! Fix problem and rerun!\n"}, // 127
    {true, ArgKind::None, "ZTProcessFile call to ZTSetUpInputFilter failed!\n"}, // 128
    {true, ArgKind::String, "ZTProcessFile could not open input file it was passed!\nInput file: %s\nFix problem and rerun!\n"}, // 129
    {true, ArgKind::String, "ZTProcessFile could not open output file it was passed!\nOutput file: %s\nFix problem and rerun!\n"}, // 130
    {true, ArgKind::None, "ZTProcessFile encountered ZT error.  Fix problem and rerun!\n"}, // 131
    {true, ArgKind::None, "ZTProcessFile had DLL failure getting segment address to data for the calling task!\n"}, // 132
    {true, ArgKind::None, "ZTFlush was passed NULL handle.  Call ZT with valid handle!\n"}, // 133
    {true, ArgKind::None, "ZTLoadTable had DLL failure getting segment address to data for calling task!\n"}, // 134
    {true, ArgKind::String, "ZTLoadTable was passed a change table filename that is too long!\nPlease call it with a shorter change table file path name.\n"}, // 135
    {false, ArgKind::None, "?ZT-W-Change Table is empty: No changes will be made to file.\n"}, // 136
    {true, ArgKind::None, "ZTProcessBuffer was passed an output buffer length of 0.\nSet the output buffer length to the length of the output buffer before calling ZTProcessBuffer!\n"}, // 137
};
// clang-format on

} // namespace

const MessageInfo& MessageAt(int number) {
    if (number < 0 || number >= kMessageCount)
        number = kUnknownMessage;
    return kMessages[number];
}

} // namespace crv::zt
