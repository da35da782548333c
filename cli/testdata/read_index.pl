# Prints what XBase::Index finds in a production index: the table it belongs to and,
# per tag, its key type and key length.
use strict;
use warnings;
use XBase::Index;

my $index = XBase::Index->new($ARGV[0]) or die XBase::Index->errstr;
print "tabla=$index->{dbf_filename}\n";
for my $tag ($index->tags) {
    my $info = $index->{tags}{$tag};
    print "tag=$tag tipo=$info->{key_type} longitud=$info->{key_length}\n";
}
