// Resource ids of the replacements dialog and the editor of one replacement.
#pragma once

#define IDD_REPLACEMENTS 140
#define IDD_REPLACEMENT_EDIT 141

#define IDC_REPLACEMENTS_TABLE 1080
#define IDC_REPLACEMENTS_ADD 1081
#define IDC_REPLACEMENTS_EDIT 1082
#define IDC_REPLACEMENTS_DELETE 1083
#define IDC_REPLACEMENT_WRITTEN 1084
#define IDC_REPLACEMENT_TYPED 1085
