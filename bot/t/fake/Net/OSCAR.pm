package Net::OSCAR;
# A stand-in for the network package, with the calls the bot's transport
# makes. A test reaches the one object made through $Net::OSCAR::last and
# plays the server by calling its callbacks.
use strict;
use warnings;

our $last;
our $signon_dies;    # when set, signon dies with this text

sub new {
    my ($class) = @_;
    return $last = bless { callbacks => {}, sent => [], asked_away => [], loops => 0 }, $class;
}

our $AUTOLOAD;
sub AUTOLOAD {
    my $self = shift;
    (my $name = $AUTOLOAD) =~ s/.*:://;
    return if $name eq 'DESTROY';
    die "Net::OSCAR has no method $name\n" unless $name =~ /\Aset_callback_(\w+)\z/;
    $self->{callbacks}{$1} = shift;
}

sub fire {
    my ($self, $name, @args) = @_;
    $self->{callbacks}{$name}->($self, @args);
}

sub signon {
    my ($self, %args) = @_;
    die $signon_dies if $signon_dies;
    $self->{signon} = \%args;
}

sub timeout { $_[0]{timeout} = $_[1] }
sub do_one_loop { $_[0]{loops}++ }
sub send_im { my ($self, @args) = @_; push @{ $self->{sent} }, \@args; 1 }
sub get_away { push @{ $_[0]{asked_away} }, $_[1] }

package Net::OSCAR::Common;
sub CONNTYPE_BOS { 'bos' }

1;
