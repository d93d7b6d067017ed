// Dialog templates of the framework tests.
#pragma once

#define IDD_TEST_FIRST 201
#define IDD_TEST_SECOND 202
#define IDD_TEST_THIRD 203

#define IDC_TEST_LABEL 1001
#define IDC_TEST_BUTTON 1002
#define IDC_TEST_BOUND 1004
