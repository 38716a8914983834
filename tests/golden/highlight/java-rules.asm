int x = 0x1F; // note
Int INT String delegate multicast
function foo
3.14 1.2.3 1e5 . ! ?
/* start
middle
end */ x
*/ a b
/*/ still open
*/ y
/**/ z
c // see /*
inside

*/ after
"a" /* x
second */ "b"
'it''s' "say \"hi\"" "\\" $x @y
public static void main(String[] args) { return -1; }
