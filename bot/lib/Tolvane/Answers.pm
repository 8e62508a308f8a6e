package Tolvane::Answers;
# The texts of the bot's answers, chosen from what the owner set up in the
# panel. Nothing here sends or remembers anything.
use strict;
use warnings;
use Exporter 'import';
use Tolvane::Config ();

our @EXPORT_OK = qw(minute_of_day scheduled_message away_answer command info_menu
  contact_answer delivery_answer);

sub minute_of_day {
    my ($time) = @_;
    my @t = localtime $time;
    return $t[2] * 60 + $t[1];
}

# The scheduled message of a buddy at a time of day (minutes after
# midnight): that of the buddy's entry that came last, at or before now.
# The schedule repeats every day, so before the day's first entry the
# previous day's last entry is still in force. '' when the buddy has no
# entry at all.
sub scheduled_message {
    my ($config, $buddy, $minute) = @_;
    my @entries = sort { $b->{minute} <=> $a->{minute} } $config->schedule_of($buddy);
    return '' unless @entries;
    my ($latest) = grep { $_->{minute} <= $minute } @entries;
    $latest = $entries[0] unless $latest;
    return $latest->{text};
}

# The answer to an ordinary message: the buddy's custom away message, else
# the scheduled message whose time has come, else the away text.
sub away_answer {
    my ($config, $buddy, $minute) = @_;
    for my $text ($config->away_message($buddy), scheduled_message($config, $buddy, $minute)) {
        return $text if $text ne '';
    }
    return $config->setting('away_text');
}

# The command a message asks for: "info", "contact" or "away"; or undef.
sub command {
    my ($text) = @_;
    my $word = lc $text;
    $word =~ s/\A\s+|[\s.!?]+\z//g;
    return $word =~ /\A(?:info|contact|away)\z/ ? $word : undef;
}

sub info_menu {
    my ($config) = @_;
    my $owner = $config->owner;
    return join "\n", 'Send one of these words:',
      'info - this list',
      "contact - ${owner}'s contact details",
      "away - ${owner}'s away message",
      "Anything else you write is saved for $owner.";
}

# The contact details, or the polite refusal when only trusted buddies may
# have them and this buddy is not one.
sub contact_answer {
    my ($config, $buddy) = @_;
    my $owner = $config->owner;
    my $Owner = ucfirst $owner;
    if ($config->setting('require_trusted') && !$config->is_trusted($buddy)) {
        return "Sorry, $owner gives contact details only to trusted buddies.";
    }
    my $c = $config->contact;
    my @lines;
    for ([phone => 'Phone'], [cell => 'Cell phone'], [email => 'Email'],
        [homepage => 'Homepage'], [websites => 'Favourite websites'])
    {
        my ($field, $label) = @$_;
        push @lines, "$label: $c->{$field}" if $c->{$field} ne '';
    }
    return "$Owner has not left any contact details." unless @lines;
    return join "\n", "${Owner}'s contact details:", @lines;
}

sub delivery_answer {
    my ($config, $text) = @_;
    return ucfirst($config->owner) . " left this message for you:\n$text";
}

1;
