s = "open string \
still in the string
closed" after
#define LIMIT \
  continued
next
"end \"
x
   # indented \
y
x # not first \
z
