// "検索(&S)" (also the tool bar's 検索 and the tree popup's 検索(&S)): the
// search window over the folder selected in the tree, shown modally, with
// the list's column layout carried over to its result list and back.
#pragma once

namespace replidex {

class MainWindow;
class SearchWindow;

void RunSearchCommand(MainWindow& form, SearchWindow& search);

}  // namespace replidex
