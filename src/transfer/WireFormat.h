// Every byte the two PCs exchange once connected: command frames, hexadecimal paths, transfer
// headers and metadata blocks, the drive list, the folder list, the error report and the
// back channel's words. Pure functions over bytes; sending and receiving live elsewhere.
#pragma once

#include "transfer/BackChannel.h"
#include "transfer/CommandFrame.h"
#include "transfer/DriveListMessage.h"
#include "transfer/ErrorReport.h"
#include "transfer/FileMeta.h"
#include "transfer/FolderListMessage.h"
#include "transfer/HexPath.h"
#include "transfer/TransferHeader.h"
