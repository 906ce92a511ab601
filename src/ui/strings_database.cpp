#include "ui/strings_database.h"

namespace sondrix {

std::span<const SStringEntry> DatabaseStrings() {
    static constexpr SStringEntry kTable[] = {
        {IDS_DB_DELETION_SUCCEEDED, "Deletion succeeded!!"},
        {IDS_DB_DELETION_FAILED, "Deletion failed!!"},
        {IDS_DB_CANCELED, "Canceled!!!"},
        {IDS_DB_AUTHORITY_FAILED, "Cannot set or reset master authority!!"},
        {IDS_DB_USER_LIST_FAILED, "Get fingerprint list failed!!"},
        {IDS_DB_MASTER_LIST_FAILED, "Get master list failed!!"},
        {IDS_DB_DOWNLOAD_COMPLETED, "DB Downloading is completed!!"},
        {IDS_DB_UPLOAD_COMPLETED, "Upload completed!!"},
        {IDS_DB_NO_SELECTION, "There is no selected item!!"},
        {IDS_DB_NO_SELECTION_PLAIN, "There is no selected item."},
        {IDS_DB_CONFIRM_DELETE, "Are you sure to delete?"},
        {IDS_DB_ALREADY_MASTER, "The selected record is MASTER!"},
        {IDS_DB_NOT_MASTER, "The selected record is not MASTER!"},
        {IDS_DB_QUIT_UPLOAD,
         "Do you want to really quit updating process?\nIt would cause wrong operation."},
        {IDS_DB_RECORD_BAD_TIME, "Rec file include incorrect Information.\r\nCheck ID Length"},
        {IDS_DB_AUTHORITY_MASTER, "MASTER"},
        {IDS_DB_AUTHORITY_USER, "USER"},
        {IDS_DB_COLUMN_CHECK, "CHK"},
        {IDS_DB_COLUMN_ID, "ID"},
        {IDS_DB_COLUMN_AUTHORITY, "Authority"},
        {IDS_DB_COLUMN_TIME, "Time"},
        {IDS_DB_COLUMN_SIZE, "Size"},
        {IDS_DB_RECORD_FILTER,
         "Record Files(*.rec)|*.rec|Multi-Record Files(*.mrc)|*.mrc|All Files|*.*|"},
        {IDS_DB_RECORD_EXTENSION, "*.REC"},
        {IDS_DB_UNSAFE_RECORD_NAME, "This ID cannot be a file name; its record was not saved: "},
        {IDS_DB_RECORD_WRITE_FAILED, "The record file could not be written: "},
        {IDS_DB_RECORD_READ_FAILED, "The file could not be read: "},
        {IDS_DB_LIST_TOO_LONG, "The list shows the first 30000 users only."},
        {IDS_DB_RECORDS_NOT_SAVED, "%d of %d records could not be saved: first failure: %s: %s"},
        {IDS_DB_UPLOAD_STOPPED,
         "%d of %d records were uploaded; the module refused %s, and nothing more was sent."},
        {IDS_DB_RECORD_FOLDER_TIP, "Record files are kept in "},
        {IDS_DB_UNSAFE_NAME_REASON, "the ID cannot be a file name"},
    };
    return kTable;
}

}  // namespace sondrix
