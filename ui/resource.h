/* resource.h: the identifiers of the dialog, its controls and the icon.
   Shared by the resource script, the program and the test driver's name table
   (made from the "#define IDC_" lines), so it includes nothing and holds one
   plain definition per line. */
#ifndef BYTESCRIBE_RESOURCE_H
#define BYTESCRIBE_RESOURCE_H

/* dialogs */
#define IDD_MAIN 101

/* icons */
#define IDI_MAIN 102

/* controls of IDD_MAIN */
#define IDC_PATH 1001
#define IDC_BROWSE 1002
#define IDC_TEXT 1003
#define IDC_LITTLE_ENDIAN 1005
#define IDC_BIG_ENDIAN 1006
#define IDC_ASM 1007
#define IDC_ASCII 1008
#define IDC_CONVERT 1010
#define IDC_OUTPUT 1011
/* the status bar, created at run time rather than by the template */
#define IDC_STATUS 1012

#endif
