onetwo
three
four
five
six

