// Resource ids of the commands dialog.
#pragma once
