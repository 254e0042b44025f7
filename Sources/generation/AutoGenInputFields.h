#pragma once
// The input fields of the three generation input dialogs, one table per form.
// Forms/make-autogen-forms.py writes the forms and this table from one source,
// so every combo box of a form has exactly one row here.

#include <QVector>

struct AutoGenInputField
{
    const char* objectName;   // the editable combo box of the form
    const char* historyField; // its history array below the dialog's history group
    const char* placeholder;  // what a template carries where the box's text goes
    const char* wordList;     // the list file that feeds the box; "" for none
    bool linked;              // advertisements: written as a link when a URL is given
};

enum class AutoGenForm
{
    Story,         // AutoGenInputDialog, history group "AutoGen", lists in "./List/"
    Advertisement, // AutoGenInputDialog4Advertisement, group "Advertisement", "./List/广告/"
    Advertorial,   // AutoGenInputDialog4AdvertisementSoft, as the advertisement
};

// The fields of a form, in the order in which the generator fills their
// placeholders (a value holding another placeholder is filled by a later row).
const QVector<AutoGenInputField>& autoGenInputFields(AutoGenForm form);
