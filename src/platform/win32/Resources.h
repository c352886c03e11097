#pragma once
// Resource identifiers shared by Curtate.rc and the code that loads the images.

#define IDI_CURTATE 101
#define IDB_LOGO47 102
#define IDB_LOGO46 103
