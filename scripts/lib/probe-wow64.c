/* Built by the i686 tool chain and started under the Wine root's Wine: it
 * exits 0x32 only when it runs there as 32-bit Windows code, which is what
 * the tests of the 32-bit build need of this machine. */
int main(void)
{
    return sizeof(void *) == 4 ? 0x32 : 1;
}
