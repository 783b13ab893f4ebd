# Warning flags shared by every target of ours.
add_compile_options(-Wall -Wextra)
