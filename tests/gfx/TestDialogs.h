#pragma once
#define IDD_TEST_DIALOG 200
#define IDC_LABEL       2001
#define IDC_EDIT        2002
#define IDC_THROW       2003
