# Wine can make no folder link of its own, but it shows a Unix symbolic link to a folder as a
# folder with the reparse-point attribute, so the tree with links back to its root is made here.
file(REMOVE_RECURSE "${TREE}")
file(MAKE_DIRECTORY "${TREE}/sub")
file(WRITE "${TREE}/a.txt" "a")
file(WRITE "${TREE}/sub/b.txt" "b")
file(CREATE_LINK "${TREE}" "${TREE}/loop" SYMBOLIC)
file(CREATE_LINK "${TREE}" "${TREE}/sub/up" SYMBOLIC)
